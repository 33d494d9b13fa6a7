p('p1', 41); goto(_p1_ + 1); PrintLn(_param1_, AsInt(' $1F'));
if QuestionDlg('ok?') then ShowMessage(InputBox('a', 'b', 'c'));
try p('', 1) except on E: Exception do PrintLn(E.Message) end;

var i: Integer; s: String;
procedure P(x: Integer); begin end;
function F: Integer; begin Result := 1 end;
begin
  PrintLn(Inc(i));
  if P(1) = F then PrintLn(IntToStr(P(2)));
  s := SetLength(s, 1);
  for i := P(1) to F do;
end.

procedure TakeParam(s: String); begin end;
begin TakeParam('Param1'); hint(IfThen(True, 'a', 'b'), 'x'); p(('p9'), [1, 2]); end.

var x: Integer
begin
  x := 'a' + 1;
  y := (1 + ;
  case x of 1..: end;
end.

procedure P; begin end;
begin
  PrintLn(P);
  PrintLn(Format('%s', [P]));
end.

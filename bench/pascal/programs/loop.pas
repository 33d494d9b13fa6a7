// Integer loop: arithmetic on locals.
var i, s: Integer;
begin
  s := 0;
  for i := 1 to 30000000 do
    s := s + i mod 7;
  PrintLn(s);
end.

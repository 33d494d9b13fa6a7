// String building: appending numbers, then scanning the result.
var s: String; i, n: Integer;
begin
  s := '';
  for i := 1 to 2000000 do
    s := s + IntToStr(i mod 10);
  n := 0;
  for i := 1 to Length(s) do
    if s[i] = '7' then Inc(n);
  PrintLn(Length(s), ' ', n);
end.

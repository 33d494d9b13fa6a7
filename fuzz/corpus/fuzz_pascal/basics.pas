program Test;
var i, s: Integer;
    str: String;
function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n-1) + Fib(n-2);
end;
begin
  s := 0;
  for i := 1 to 10 do s := s + i;
  PrintLn('sum=', s);
  PrintLn(Fib(20));
  str := 'a'#13'b';
  PrintLn(Length(str), ' ', UpperCase('abc'), ' ', Format('%d-%s %5.2f|%-4d|%x', [42, 'ok', 3.14159, 7, 255]));
  PrintLn(Copy('hello', 2, 3), Pos('l', 'hello'), 10 / 4, 7 div 2, 7 mod 3, True);
  PrintLn(AnsiUpperCase('привет'), ' ', IntToStr(-5), FloatToStr(0.1+0.2), ' ', 1e20);
end.

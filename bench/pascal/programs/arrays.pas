// Array work: a sieve of primes, then sums over the array.
const N = 5000000;
var flags: array of Boolean; i, j, count: Integer;
begin
  SetLength(flags, N + 1);
  for i := 2 to N do flags[i] := True;
  i := 2;
  while i * i <= N do begin
    if flags[i] then begin
      j := i * i;
      while j <= N do begin flags[j] := False; j := j + i; end;
    end;
    i := i + 1;
  end;
  count := 0;
  for i := 2 to N do if flags[i] then count := count + 1;
  PrintLn(count);
end.

var a: array of Integer; i: Integer;
type TP = record x, y: Integer; name: String; end;
var p: TP; q: TP; arr: array[1..3] of TP;
procedure Swap(var a, b: Integer);
var t: Integer;
begin t := a; a := b; b := t; end;
begin
  SetLength(a, 5);
  for i := 0 to High(a) do a[i] := i * i;
  PrintLn(a[4], ' ', Length(a));
  p.x := 1; p.name := 'P'; q := p; q.x := 2;
  PrintLn(p.x, q.x, p.name);
  arr[2].name := 'two'; PrintLn(arr[2].name);
  i := 5; Swap(i, a[1]); PrintLn(i, ' ', a[1]);
  try
    i := 1 div (i - 1);
  except
    on E: Exception do PrintLn('caught: ', E.Message);
  end;
  try
    raise Exception.Create('boom');
  except
    PrintLn('caught2');
  end;
  case i of
    1..3: PrintLn('small');
    5, 7: PrintLn('five');
  else PrintLn('other');
  end;
  case 'abc' of 'abc': PrintLn('str case'); end;
  i := 0;
  repeat Inc(i); if i = 3 then Continue; if i > 5 then Break; until False;
  PrintLn(i);
  try
    PrintLn('in try');
    Exit;
  finally
    PrintLn('finally');
  end;
  PrintLn('not reached');
end.

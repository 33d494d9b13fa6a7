goto(2;
TakeParm('param1');
'unclosed

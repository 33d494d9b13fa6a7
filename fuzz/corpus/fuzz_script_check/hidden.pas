{ TakeParam('x') } // p('p0', 1)
(* LoseParam('y') *) ShowMessage('TakeParam(''Param1'')');
hint('param1'#13, 'h');
MyUnit.plus_p('', 1); x.p('p7', 1);

TakeParam('Param1');
action('action1', 'p2');
p('p7', 1);

foo
 set_pot   1 2

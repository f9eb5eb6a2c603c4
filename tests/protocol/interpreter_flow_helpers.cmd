repeat 3 hello world
repeat 1 "kept  blanks"
repeat 0 x
repeat 100000 x
repeat 99999
repeat x y
repeat -1 y
echo
echo a
set_value n 5
echo n is $n
sleep 0
sleep -5
sleep 1
sleep x
take_a_break 0
take_a_break -1
take_a_break x

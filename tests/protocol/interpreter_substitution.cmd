# $name is replaced by the value; an unset name and a lone $ stay as written.
set_value x 5
echo $x
echo $unset
echo $ $$ x$x
# The value of a variable may even supply the command word.
set_value say echo
$say via variable
# Two passes: p holds the text $q (q did not exist when it was set), q holds $r, r holds deep.
# $p resolves to $q in the first pass and to $r in the second; no third pass happens.
set_value p $q
set_value q $r
set_value r deep
echo $p
echo $q
# A variable whose value starts with # turns the line into a comment.
set_value hidden #nothing
$hidden shown?
# A comment line itself is never substituted nor run, whatever follows.
#echo $x
# Values keep their blanks; substitution never splits a value into several tokens.
set_value two "a b"
echo [ $two ]
get_value two
# Substitution happens before the argument count is checked: $two is one argument.
set_value $two 1
get_value "a b"

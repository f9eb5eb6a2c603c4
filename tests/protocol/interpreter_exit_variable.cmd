# The exit word itself may come from a variable.
set_value quit exit
$quit 7
echo never

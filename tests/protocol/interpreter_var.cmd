get_value a
get_value c
get_value name
get_value x
# --var runs before --cmd: the command saw the variable.
get_value seen

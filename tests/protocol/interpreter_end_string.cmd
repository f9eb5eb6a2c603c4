# Before an end string is set, multi-line answers end with END and one-line answers do not.
repeat 2 hello world
list_algorithms
set_end_string DONE
# From now on DONE follows every reply: ok lines, data, errors, and commands that answer nothing.
set_threads 4
repeat 3 hello world
get_value missing
set_threads abc
foo
sleep 0
disconnect
show_settings
list_algorithms
# Skipped lines, comments, labels and blank lines answer nothing at all, not even DONE.
LABEL: x
if_match a b
echo skipped
end_if
    
# An end string with blanks; an empty one cannot be set (no argument token).
set_end_string "END OF REPLY"
is_ready
set_end_string ""
# An end string that starts with # is dropped like any notification line.
set_end_string #done
is_ready

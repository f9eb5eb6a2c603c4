set_threads 4
is_ready
set_value a 1
get_value a
set_end_string DONE
set_threads 4
foo

set_threads 2
get_value x

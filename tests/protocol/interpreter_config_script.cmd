get_value configured
get_value from_cmd
# ok lines are shown again once the configuration script has ended
set_threads 2

set_value x 5
verify_value x 5.2 0.3
verify_value x 5.4 0.3
verify_value x 5
verify_value x 5.0000001
verify_value x 4 1
verify_value x
verify_value x 1 2 3
verify_value x abc
verify_value missing 5
set_value word abc
verify_value word 1
# default_value never overwrites, and answers ok either way.
default_value x 7
get_value x
default_value fresh 7
get_value fresh
# Start-up variables exist and can be overwritten like any other.
get_value build
get_value build_date
get_value build_time
get_value cpu_instruction_set
get_value operating_system
set_value cpu_vendor vendor
set_value cpu_brand brand
# Names are listed in byte order: upper case before lower case.
set_value Zeta 1
set_value alpha 2
set_value _under 3
get_all_values
set_end_string DONE
get_all_values

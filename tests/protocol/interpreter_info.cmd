list_algorithms
get_curr_alg
get_instruction_set
ai6_get_instruction_set
show_settings
disconnect
connect somewhere
# help lists every command word except the ai6_ aliases, in byte order.
help

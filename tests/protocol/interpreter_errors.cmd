# Unknown words.
foo
foo bar baz
FOO
# Argument counts are checked before the handler runs.
set_threads
set_threads 1 2
set_pot 1 2
get_value
# Invalid numbers: unreadable, or out of range of a 32-bit integer.
set_threads abc
set_threads 99999999999
set_threads -99999999999
set_info_freq x1
# Trailing characters after a number are ignored.
set_info_freq 12abc
# An accepted number outside the command's range is an argument error.
set_info_freq 0
set_simd_level -5
# Value errors carry the command word.
get_value nothing
verify_value nothing 1

# A thread count far beyond the machine's hardware threads is refused before the OpenMP runtime
# tries to create the team; 0 and negative counts still mean the start-up count.
set_threads 100000
ai6_set_threads 40000
set_threads 2
set_threads -3
set_threads 2
load_script data/solver_turn_game.txt
set_info_freq 1000
go 1 steps block

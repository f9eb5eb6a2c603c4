load_script data/solver_turn_game.txt
set_simd_level 1
set_threads 1
go 15 steps block
calc_results
get_value solver_exploitability
load_script data/solver_turn_game.txt
set_simd_level 8
set_threads 2
go 15 steps block
calc_results
get_value solver_exploitability

stop
wait_for_solver
load_script data/solver_turn_game.txt
set_info_freq 100000
go 3 steps
wait_for_solver
calc_results
get_value solver_iterations
set_end_string DONE
go 2 steps
wait_for_solver
calc_results
get_value solver_iterations
go
build_tree
set_compression none
calc_results
go 5 steps
stop
wait_for_solver

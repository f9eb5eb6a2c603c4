load_script data/solver_river_game.txt
set_info_freq 1
set_accuracy 1000
stdoutredi solve_output.txt
go x block
stdoutback
calc_results
get_value solver_iterations
set_info_freq 40
set_accuracy 0.02 fraction
stdoutredi solve_output.txt
go 100 seconds block
stdoutback
calc_results
get_value solver_iterations

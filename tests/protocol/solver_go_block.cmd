go
calc_results
load_script data/solver_river_game.txt
set_info_freq 100000
go 5
go 5 minutes
go 5 steps now
go x steps
go 5 steps block
calc_results
get_value solver_iterations
go 0 steps block
calc_results
get_value solver_iterations

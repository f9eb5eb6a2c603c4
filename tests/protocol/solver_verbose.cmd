set_accuracy 0.5 fraction
set_accuracy 0.5
set_accuracy -1
set_accuracy
set_recalc_accuracy 0.01 0.02 0.03
set_recalc_accuracy 0.01 0.02
load_script data/solver_river_game.txt
set_pot 0 0 200
set_info_freq 1000000
set_threads 1
go 2 steps
wait_for_solver
go 1 steps block

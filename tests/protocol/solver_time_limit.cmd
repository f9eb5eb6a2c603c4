load_script data/solver_turn_game.txt
set_info_freq 100000000
go 1 seconds block
go 0 seconds
stop
wait_for_solver

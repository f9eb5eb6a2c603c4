set_compression max
load_script data/solver_river_game.txt
set_board QsJh2h
clear_lines
add_line 0 0 0 0 0 0
add_line 0 0 0 0 0 50 50
add_line 0 0 0 50 50 50 50
build_tree
set_threads 1
go 40 steps block
calc_results

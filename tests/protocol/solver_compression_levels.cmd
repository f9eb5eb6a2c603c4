load_script data/solver_river_game.txt
set_board QsJh2h
clear_lines
add_line 0 0 0 0 0 0
add_line 0 0 0 0 0 50 50
add_line 0 0 0 50 50 50 50
build_tree
set_info_freq 100000
set_compression none
go 70 steps block
calc_results
set_compression low
go 70 steps block
calc_results
set_compression medium
go 70 steps block
calc_results
set_compression high
go 70 steps block
calc_results
set_compression max
estimate_schematic_tree
go 70 steps block
calc_results
set_compression max
set_threads 2
go 70 steps block
calc_results
# Rivers dropped, re-solved and solved on at "max" end in the band of the other levels (0.004 to
# 0.006): re-solved records once replayed the warm-up of coarse regrets and the solve rose to 0.030.
forget rivers
solve_all_splits rivers
calc_results
go 30 steps block
calc_results

# A river tree averages its strategy with the heavier late weights of river trees: the figures after
# the averaging delay depend on them.
load_script data/solver_river_game.txt
set_info_freq 100000
go 100 steps block
calc_results

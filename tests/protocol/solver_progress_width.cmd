# With an info frequency of 200 million the bar is still at most 100 marks wide: each mark stands
# for two million iterations, so every pass of these three iterations draws one mark.
load_script data/solver_river_game.txt
enable_progress_bar 1
set_info_freq 200000000
go 3 steps block
set_info_freq 7
go 3 steps block

show_memory
load_script data/solver_river_game.txt
get_actual_compression
set_board QsJh2h
clear_lines
add_line 0 0 0 0 0 0
add_line 0 0 0 0 0 50 50
add_line 0 0 0 50 50 50 50
build_tree
get_actual_compression
estimate_schematic_tree

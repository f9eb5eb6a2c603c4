set_pot 0 0 80
load_script data/tree_ranges_full.txt
set_board QsJh2h
add_line 30
build_tree
add_line 0 0 0 0 0 0
build_tree
cut_line r:0:c:c:c:c:c
cut_line r:0:b30
set_isomorphism 0 0
load_script data/tree_ranges_bench.txt
set_board QsJh2h8d3c
clear_lines
load_script data/tree_lines_river.txt
build_tree
set_board QsJh2h8d
clear_lines
load_script data/tree_lines_turn.txt
build_tree
set_board QsJh2h
clear_lines
load_script data/tree_lines_flop.txt
build_tree
show_node r

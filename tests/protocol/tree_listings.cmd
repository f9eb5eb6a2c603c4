load_script data/tree_ranges_bench.txt
set_board QsJh2h8d3c
set_pot 0 0 100
load_script data/tree_lines_river.txt
build_tree
show_all_lines
node_count
show_effective_stack
show_children r:0
show_children r:0:b200
estimate_schematic_tree
set_board QsJh2h8d
clear_lines
load_script data/tree_lines_turn.txt
build_tree
node_count
show_children r:0:b50:c
show_children r:0:b50:c:Ac
set_board QsJh2h
clear_lines
load_script data/tree_lines_flop.txt
build_tree
node_count
show_effective_stack

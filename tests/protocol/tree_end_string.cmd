load_script data/tree_ranges_full.txt
set_board QsJh2h
add_line 0 30
add_line 45
build_tree
set_end_string DONE
show_node r:0:b45
show_node r:0:b46
show_children r:0:c:b30
show_children r:0:b45:f
show_all_lines
node_count
show_tree_params
add_info_line "#meta line"
show_tree_info
is_tree_present
show_effective_stack
estimate_schematic_tree
set_end_string #done
show_tree_info
show_node r:0:b45:f

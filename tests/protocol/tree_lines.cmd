load_script data/tree_ranges_full.txt
set_board QsJh2h
set_pot 0 0 100
add_line 0
build_tree
show_all_lines
show_children r:0:c
clear_lines
add_line 30
build_tree
show_children r:0:b30
add_line 30 20
add_line 30.9
add_line 30
show_all_lines
add_line 0 0 20
build_tree
show_node r:0:c:c
show_node r:0:c:c:Kh
show_children r:0:c:c:Kh:b20
add_line 30 90
build_tree
show_children r:0:b30:b90
show_children r:0:b30:b90:f
add_line 30 30 30 60
build_tree
show_node r:0:b30:c
show_children r:0:b30:c:7c
force_line 0 30
build_tree
show_all_lines
remove_line 0 30 0
show_all_lines
remove_line 45
remove_line 0 30 30 20
remove_line 0
show_all_lines
add_line 0 0 0 0 0 0
build_tree
node_count
add_line 0 0 0 0 0 0 0
build_tree
is_tree_present
show_node r:0:c:c:Kh:c:c:Ah:c
set_board QsJh2h8d
clear_lines
add_line 0 0 0 0
build_tree
show_all_lines
show_node r:0:c:c:Ah:c:c
add_line 0 0 0 0 0
build_tree
set_board QsJh2h8d3c
clear_lines
add_line 0 0
build_tree
show_node r:0:c:c
add_line 0 0 0
build_tree
show_node r
set_board QsJh2h
clear_lines
add_line -0.5
add_line -0
build_tree
show_children r:0

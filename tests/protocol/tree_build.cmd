build_tree
load_script data/tree_ranges_full.txt
build_tree
set_board QsJh2h
build_tree
set_pot 0 0 60
add_line 0 45
add_line 20 60
build_tree
show_effective_stack
set_rake 0.05 3
set_rake 1.5 3
set_rake 0.05 -1
set_rake -0.1 3
set_rake x 3
set_rake 1 0
set_ev_boost r:0 0.5
set_ev_boost r:0:b20 -0.99
set_ev_boost r:0:b20 -1
set_ev_boost r:0:b20 1.01
set_ev_boost r:0:b20:f 0.5
set_ev_boost r 0.5
set_ev_boost r:0:c:c 0.5
set_ev_boost r:0 x
set_ev_boost r:0:b21 0.5
add_info_line "kept until the next build"
cut_line r
cut_line r:0
cut_line r::0
cut_line r:0:b9
cut_line r:0:b20
show_all_lines
show_tree_info
add_line 0 0 0 0 0 0 0
cut_line r:0:c:b45
show_all_lines
show_node r:0:c:b45
remove_line 0 0 0 0 0 0 0
cut_line r:0:c:b45
show_all_lines
show_effective_stack
show_tree_params
free_tree
is_tree_present
show_tree_params
show_effective_stack

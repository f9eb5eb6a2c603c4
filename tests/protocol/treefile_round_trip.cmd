# A solved turn game saved and loaded again: the lines, the info lines (blanks kept), the flop and
# turn strategies (from iteration 60 on, the averaged ones, which come back exactly) and the
# results come back; rivers are solved again when read.
load_script data/solver_turn_game.txt
set_info_freq 100000
go 80 steps block
set_rake 0.05 3
add_info_line #Type#turn
add_info_line "two  blanks  inside"
add_info_line #EffectiveStacks#200
show_strategy r:0:c
calc_results
dump_tree game.tree
dump_tree game_light.tree no_ev plain
free_tree
load_tree game.tree
is_tree_present
show_tree_params
show_tree_info
show_strategy r:0:c
calc_results
show_metadata game.tree
is_tree_present
# A file without regrets: a load's progress (notifications on), and EVs of 0.
enable_ui_notifications 1
load_tree game_light.tree
enable_ui_notifications 0
calc_ev OOP r:0
# Refusals: unknown words, no tree, missing and foreign files; a failed load leaves no tree.
dump_tree x.tree fast
free_tree
dump_tree x.tree
load_tree missing.tree
show_metadata missing.tree
load_tree data/solver_turn_game.txt
show_metadata data/solver_turn_game.txt
is_tree_present
set_end_string DONE
is_ready

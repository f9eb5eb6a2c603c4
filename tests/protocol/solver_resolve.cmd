forget rivers
solve_all_splits turns
explo_partial r:0
load_script data/solver_turn_game.txt
set_info_freq 100000
set_recalc_accuracy 0.01 0.01 0.01
explo_partial r:0:c:c:As
go 40 steps block
calc_results
forget oceans
forget rivers
show_node r
show_node r:0:c:c:As
go 5 steps block
calc_results
calc_line_freq r:0:c:c:As:c
explo_partial r:0
explo_partial r:0:c:c
explo_partial r:0:c:c:As
solve_partial r:0:c:c:As:b50
show_probs r:0:c:c:Ks:b50:c
show_node r:0:c:c:As
solve_all_splits seas
solve_all_splits rivers
show_node r
calc_results
forget turns
show_stats 0.01 IP
rebuild_all
show_node r
go
forget rivers
rebuild_forgotten_streets
solve_all_splits rivers
solve_partial r:0:c:c:As
explo_partial r:0:c:c:As
stop
wait_for_solver

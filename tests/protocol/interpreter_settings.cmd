# Whole-number settings: in range answers ok, outside is an argument error.
set_threads 0
set_threads -3
set_threads 8
ai6_set_threads 2
set_info_freq 1
set_info_freq 0
set_simd_level 16
set_simd_level 17
set_simd_level 0
set_eval_mode 0
set_eval_mode 4
set_eval_cap 4096
set_eval_cap 4097
set_prefetch_mode 2
set_prefetch_mode -1
set_scheduler 0
set_scheduler 3
set_must_use_hole_cards 2
set_must_use_hole_cards 3
# Decimals.
set_precision -2.0
set_precision 2.0000001
set_precision 0.5e0
set_precision nan
set_precision x
# Switches take exactly the characters 0 and 1.
enable_progress_bar 1
enable_progress_bar 2
enable_progress_bar 01
enable_progress_bar on
enable_adaptive_precision 0
enable_avx512 1
enable_river_strategy 0
enable_ui_notifications 1
enable_perf_counters 0
enable_numa fake
enable_numa 1
enable_numa Fake
set_eval_flag alt1 1
set_eval_flag alt1 0
set_eval_flag alt2 1
set_eval_flag alt1 2
ignore_mem_check on
ignore_mem_check off
ignore_mem_check 1
# Priority classes are case-sensitive words.
set_priority_class normal
set_priority_class below_normal
set_priority_class Normal
set_priority_class fast
# Commands that only answer ok, whatever their arguments.
is_ready
set_algorithm anything
set_always_recalc
set_always_recalc 1 2 3

show_categories
show_categories Ks
show_categories Ks 7d
show_categories Ks 7d 2c 3h 4h 5h
show_categories Ks 7d 2x
show_categories Ks Ks 2c
show_categories 10h 7d 2c
show_categories Ks,7d,2c
show_categories Ks 7d 2c 3
show_category_names extra
set_end_string DONE
show_category_names
show_categories Ks 7d

show_category_names
show_categories Ks 7d 2c
show_categories KsKd2c
show_categories As Ks Qs Js Ts
show_categories 9h 8h 2c
show_categories Ks 7d 2c 3h
show_categories kc kd 7H 7s
show_categories "9c 8d" 7h 6s 5c
set_low_card 6
set_hand_type_order highcard pair twopair trips straight fullhouse flush quads straightflush
show_categories 9h 8h 7c

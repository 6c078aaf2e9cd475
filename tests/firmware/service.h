/* What the calculator does when ON goes down while other keys are held, and the
 * menus and displays those chords lead to. */
#pragma once

/* The chord held with ON, or SERVICE_NONE. */
enum service_chord { SERVICE_NONE, SERVICE_MENU, SERVICE_MEMORY_RESET, SERVICE_SELF_TEST };
enum service_chord service_chord_held(void);

void service_show_menu(void);
void service_show_model_menu(void);
void service_self_test(void);
/* The model a selector key picks, or 0. Key 1 picks the HP-15C, or the HP-12C
 * when the HP-15C runs; key 3 the HP-15C (15.2); key 5 the HP-16C. */
int service_selected_variant(int code);

/* HP-15C g MEM: the memory status, or "Error 10" when the running 15.0 image
 * cannot hold the memory (it needs the 15.2 doubled pool). */
void service_show_memory_status(void);

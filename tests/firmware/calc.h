/* What the calculator does with a key. */
#pragma once

void calc_init(void);
/* Work of the main loop: handles the keys that the scans counted. */
void calc_work(void);
/* Handles one key that went down. */
void calc_key(int code);
/* Carries out one operation (the HP-16C program runner counts the passes here). */
void calc_step(int code);

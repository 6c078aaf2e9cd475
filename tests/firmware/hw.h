/*
 * The emulated chip as the firmware sees it: peripheral registers and the RAM
 * variables that the emulator reads at fixed addresses.
 */
#pragma once

#include <stdint.h>

#define REG32(address) (*(volatile uint32_t*)(address))
#define RAM8(address) (*(volatile uint8_t*)(address))

/* NVIC: interrupt 39 is bit 7 of set-enable register 1. */
#define NVIC_ISER1 REG32(0xE000E104u)
#define IRQ39_BIT (1u << 7)

/* GPIO port p: direction and output with set/clear registers, input register. */
#define GPIO_BASE(p) (0x400E1000u + (uint32_t)(p) * 0x200u)
#define GPIO_DIR_SET(p) REG32(GPIO_BASE(p) + 0x44u)
#define GPIO_OUT_SET(p) REG32(GPIO_BASE(p) + 0x54u)
#define GPIO_OUT_CLR(p) REG32(GPIO_BASE(p) + 0x58u)
#define GPIO_IN(p) REG32(GPIO_BASE(p) + 0x60u)

/* Timer: run bit and interrupt request in the control register; bit 0 of ACK clears a request. */
#define TIMER_CTRL REG32(0x40038000u)
#define TIMER_ACK REG32(0x4003800Cu)
#define TIMER_RUN (1u << 8)
#define TIMER_REQUEST (1u << 3)

/* LCD controller: a ready flag to wait for, and 256 segment bits in eight words. */
#define LCD_STATUS REG32(0x40080000u)
#define LCD_SEGMENTS(i) REG32(0x40080014u + 4u * (uint32_t)(i))
#define LCD_SEGMENT_WORDS 8

/* RAM variables at fixed addresses. */
#define RAM_DESCRIPTOR REG32(0x20000010u)    /* address of the running model descriptor */
#define RAM_DISPLAY_BLOCK REG32(0x20000014u) /* HP-16C: base of the display block */
#define RAM_MEMORY ((volatile uint8_t*)0x20000018u) /* the calculator's 2048-byte memory */
#define RAM_TIMER_WANTED RAM8(0x20000855u)   /* 1: run the timer handler */
#define RAM_CLOCK_HZ REG32(0x2000085Cu)

#define CPU_CLOCK_HZ 48000000u

/* Routines the HP-16C program runner calls or steps over live at fixed addresses. */
#if FW_FAMILY == 16
#define AT(address) __attribute__((section(".fixed." #address), used, noinline))
#else
#define AT(address)
#endif

#!/usr/bin/env python3
# Writes prescan.psc from the rule in README.md: the hand-written set-up block,
# then 2000 rows "frequency;drive" with CR LF; steps 1 to 4 recorded, the rest
# 0;0. Run it from this folder.
recorded = {1: (80000000, 143), 2: (80800000, 0), 3: (81600000, 200), 4: (82400000, 255)}
with open("setup_block.txt", "rb") as f:
    text = f.read()
for i in range(1, 2001):
    freq, drive = recorded.get(i, (0, 0))
    text += b"%d;%d\r\n" % (freq, drive)
with open("prescan.psc", "wb") as f:
    f.write(text)

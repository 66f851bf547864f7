#!/usr/bin/env python3
"""A long schedule for timing vestra-schedule: N rooms (500 unless given) spread over every
series, with duties that vary from room to room.

    tools/schedule/make_schedule.py [N] > /tmp/schedule-500.csv
    /usr/bin/time -f '%e s' build/bin/vestra-schedule /tmp/schedule-500.csv -o /tmp/s500
"""
import sys

SERIES = ["TORVA", "Q70", "MIRAL", "VELD", "KELM", "BRISK", "LUMO", "ZOPH", "DARNE", "MIRALP",
          "PELVO", "QUIVO", "NARTE", "MIRALEC", "PELVOEC", "UMBRA", "KELMBLDC", "ZOPHBLDC",
          "TORVAEC"]
# The EC fan coils and ducted units are rated at the air flow typed for the room.
RATED_AT_AIR_FLOW = {"MIRALEC", "PELVOEC", "UMBRA", "KELMBLDC", "ZOPHBLDC"}
# Unit heaters heat only.
HEATING_ONLY = {"Q70"}


def main():
    rooms = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    print("tag,series,txtqatot,PT,PS,PH,LP")
    for i in range(rooms):
        series = SERIES[i % len(SERIES)]
        size = 1 + (i * 7) % 5  # 1..5: from a small office to an open space
        total = 600 * size if series in RATED_AT_AIR_FLOW else 1200 * size
        air = 150 + 60 * size if series in RATED_AT_AIR_FLOW else ""
        if series in HEATING_ONLY:
            print(f"R{i + 1:03d},{series},{air},,,{4000 * size},")
        else:
            print(f"R{i + 1:03d},{series},{air},{total},{int(total * 0.72)},{int(total * 1.2)},"
                  f"{38 + 2 * size}")


if __name__ == "__main__":
    main()

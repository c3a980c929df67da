#!/usr/bin/python3
# Reads an iCalendar file with a real parser and prints each to-do and event on one line:
# uid|kind|summary|start or due|end or duration|status|next three occurrences.
# Used by the calendar export test only.
import sys

from dateutil.rrule import rrulestr
from icalendar import Calendar

with open(sys.argv[1], "rb") as source:
    calendar = Calendar.from_ical(source.read())
for component in calendar.walk():
    if component.name not in ("VTODO", "VEVENT"):
        continue
    start = component.get("DUE") or component.get("DTSTART")
    start_value = start.dt
    end = component.get("DTEND")
    duration = component.get("DURATION")
    ending = end.dt.isoformat() if end else (str(duration.dt) if duration else "")
    occurrences = ""
    if component.get("RRULE"):
        rule = component.get("RRULE").to_ical().decode()
        dtstart = start_value
        if not hasattr(dtstart, "hour"):
            from datetime import datetime
            dtstart = datetime(dtstart.year, dtstart.month, dtstart.day)
        series = rrulestr(rule, dtstart=dtstart)
        occurrences = ",".join(moment.date().isoformat() for moment in list(series[:3]))
    print("|".join([str(component.get("UID")), component.name, str(component.get("SUMMARY")),
                    start_value.isoformat(), ending, str(component.get("STATUS") or ""), occurrences]))

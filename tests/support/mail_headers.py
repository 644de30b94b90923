"""Prints what Python's email parser makes of a mail that smtp_folder_sink.py stored (the
sink's envelope lines are left out): the number of defects found in the message and in its
header fields, each header field as "Name: value" unfolded, the Date field as seconds since
1970, then "end".

    /usr/bin/python3 mail_headers.py FILE
"""

import email
import email.policy
import sys

with open(sys.argv[1], "rb") as stored:
    content = stored.read().split(b"\n\n", 1)[1]
message = email.message_from_bytes(content, policy=email.policy.default)
defects = list(message.defects)
for name, value in message.items():
    defects += list(getattr(value, "defects", []))
print("defects: %d %s" % (len(defects), defects))
for name, value in message.items():
    print("%s: %s" % (name, value))
print("date: %d" % int(message["Date"].datetime.timestamp()))
print("end")

"""Mail handler for the SMTP server of the tests: every accepted message becomes one file in
the folder named on the command line, holding the envelope and the message bytes as received.

    /usr/bin/python3 -m aiosmtpd -n -l 127.0.0.1:PORT -c smtp_folder_sink.FolderSink FOLDER
"""

import os


class FolderSink:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    @classmethod
    def from_cli(cls, parser, *args):
        if len(args) != 1:
            parser.error("FolderSink takes the folder to write to")
        return cls(args[0])

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = os.path.join(self.folder, "mail-%03d" % self.count)
        content = envelope.original_content or envelope.content
        if isinstance(content, str):
            content = content.encode("utf-8", "surrogateescape")
        header = "From: %s\nTo: %s\n\n" % (envelope.mail_from, ",".join(envelope.rcpt_tos))
        # Written whole under another name first: a reader never sees half a mail.
        with open(name + ".part", "wb") as out:
            out.write(header.encode("ascii", "replace") + content)
        os.rename(name + ".part", name)
        return "250 Message accepted for delivery"

#!/usr/bin/env python3
"""Reads one .eml file with Python's standard e-mail parser and prints what a
mail program would see in it as JSON: recipients, subject, the plain-text
body, each attachment (file name, MIME type, decoded bytes in hex) and the
parser's complaints about the message's structure."""

import email
import email.policy
import json
import sys


def main():
    with open(sys.argv[1], "rb") as file:
        message = email.message_from_binary_file(file, policy=email.policy.default)
    defects = [type(defect).__name__ for part in message.walk() for defect in part.defects]
    body = message.get_body(preferencelist=("plain",))
    attachments = [
        {
            "fileName": part.get_filename(),
            "mimeType": part.get_content_type(),
            "hex": part.get_payload(decode=True).hex(),
        }
        for part in message.iter_attachments()
    ]
    print(json.dumps({
        "to": [[address.display_name, address.addr_spec] for address in message["To"].addresses] if message["To"] else [],
        "subject": str(message["Subject"] or ""),
        "body": body.get_content() if body is not None else None,
        "multipart": message.get_content_type(),
        "attachments": attachments,
        "defects": defects,
    }))


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""A small SMTP server for the tests: listens on 127.0.0.1 on a port the system chooses, prints
"PORT <n>" (and "CERT <file>" when it speaks TLS) on its first lines, and stores each message it
accepts in the message directory as NNNN.eml (the data as received) beside NNNN.env (the
envelope: "MAIL FROM:<...>" and one "RCPT TO:<...>" line per recipient). It stops by itself after
--lifetime seconds, or when its standard input closes.

Options: --dir DIR (required), --auth USER:PASSWORD (AUTH required), --refuse ADDRESS (a
recipient to refuse with 550, repeatable), --refuse-mail (refuse every MAIL FROM with 550),
--hang-after-data (never answer the final "." of a message, nor anything after it),
--starttls or --tls (with a self-signed certificate made with openssl in DIR), --lifetime S.
"""

import argparse
import asyncio
import os
import ssl
import subprocess
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, directory, refused, refuse_mail, hang_after_data):
        self.directory = directory
        self.refused = {a.lower() for a in refused}
        self.refuse_mail = refuse_mail
        self.hang_after_data = hang_after_data
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.refuse_mail:
            return "550 5.7.1 Mail from this sender is refused"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refused:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.hang_after_data:
            # A server that stopped answering: the session waits here, and so does its QUIT.
            await asyncio.sleep(3600)
        self.count += 1
        base = os.path.join(self.directory, "%04d" % self.count)
        env = "MAIL FROM:<%s>\n" % envelope.mail_from
        env += "".join("RCPT TO:<%s>\n" % r for r in envelope.rcpt_tos)
        # The envelope first and the message last, each through a rename: a listed .eml is
        # always complete.
        write_atomically(base + ".env", env.encode())
        write_atomically(base + ".eml", envelope.original_content or envelope.content)
        return "250 2.0.0 Stored"


def write_atomically(path, data):
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.rename(path + ".part", path)


def make_certificate(directory):
    cert = os.path.join(directory, "cert.pem")
    key = os.path.join(directory, "key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-keyout", key, "-out", cert, "-subj", "/CN=localhost",
         "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return cert, context


def authenticator_for(user, password):
    def check(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
              and auth_data.password == password.encode())
        # handled=False: the server itself answers a failure with 535.
        return AuthResult(success=ok, handled=False)
    return check


async def serve(args):
    loop = asyncio.get_running_loop()
    handler = Handler(args.dir, args.refuse, args.refuse_mail, args.hang_after_data)
    context = None
    cert = None
    if args.starttls or args.tls:
        cert, context = make_certificate(args.dir)
    kwargs = {}
    if args.auth:
        user, _, password = args.auth.partition(":")
        kwargs.update(authenticator=authenticator_for(user, password), auth_required=True,
                      auth_require_tls=False)
    if args.starttls:
        kwargs.update(tls_context=context, require_starttls=True)

    def factory():
        return SMTP(handler, hostname="volumark-test", **kwargs)

    server = await loop.create_server(factory, "127.0.0.1", 0,
                                      ssl=context if args.tls else None)
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port)
    if cert:
        print("CERT %s" % cert)
    print("READY", flush=True)

    stop = loop.create_future()
    loop.call_later(args.lifetime, lambda: stop.done() or stop.set_result(None))
    # A closed standard input means the test that started the server has gone.
    loop.add_reader(sys.stdin.fileno(), lambda: stop.done() or
                    (not sys.stdin.buffer.read1(4096) and stop.set_result(None)))
    await stop
    server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--auth")
    parser.add_argument("--refuse", action="append", default=[])
    parser.add_argument("--refuse-mail", action="store_true")
    parser.add_argument("--hang-after-data", action="store_true")
    parser.add_argument("--starttls", action="store_true")
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--lifetime", type=float, default=60.0)
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()

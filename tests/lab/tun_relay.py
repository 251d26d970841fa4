#!/usr/bin/env python3
"""The lab's slow link: carries IP packets between two TUN devices with delay, jitter and loss."""
import argparse
import fcntl
import heapq
import os
import random
import select
import signal
import struct
import sys
import time

TUNSETIFF = 0x400454CA
IFF_TUN = 0x0001
IFF_NO_PI = 0x1000
MAX_QUEUED = 10000  # packets in flight; beyond that the link drops, as a full queue would


def open_tun(name):
    """Creates TUN device NAME; it is not made persistent, so it goes when this process ends."""
    fd = os.open("/dev/net/tun", os.O_RDWR | os.O_NONBLOCK)
    fcntl.ioctl(fd, TUNSETIFF, struct.pack("16sH", name.encode(), IFF_TUN | IFF_NO_PI))
    return fd


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("tun_a", help="name of the first TUN device to create")
    parser.add_argument("tun_b", help="name of the second TUN device to create")
    parser.add_argument("--delay", type=float, default=20.0, help="ms each packet is held, each direction")
    parser.add_argument("--jitter", type=float, default=0.0,
                        help="ms by which the hold time varies, uniformly within +-JITTER (never below 0); "
                             "packets may then overtake each other")
    parser.add_argument("--loss", type=float, default=0.0, help="percent of packets dropped at random")
    parser.add_argument("--loss-on-signal", action="store_true",
                        help="drop nothing until SIGUSR1 arrives, then LOSS percent (a route found "
                             "whole before its link starts to lose)")
    parser.add_argument("--seed", type=int, help="seed for jitter and loss, for repeatable runs")
    args = parser.parse_args()
    if args.delay < 0 or args.jitter < 0 or not 0 <= args.loss <= 100:
        parser.error("delay and jitter must be >= 0, loss within 0..100")
    return args


def relay(fds, delay, jitter, loss, rng):
    """loss: a one-element list, so that a signal handler can change it while the relay runs."""
    peer = {fds[0]: fds[1], fds[1]: fds[0]}
    queue = []  # (due, sequence, fd to write, packet)
    sequence = 0
    while True:
        # Sleep in select until a packet arrives or the next one is due: no CPU while idle.
        timeout = max(0.0, queue[0][0] - time.monotonic()) if queue else None
        readable, _, _ = select.select(fds, [], [], timeout)
        now = time.monotonic()
        for fd in readable:
            while True:
                try:
                    packet = os.read(fd, 65536)
                except (BlockingIOError, InterruptedError):
                    break
                except OSError:
                    break  # device not up yet
                if loss[0] and rng.random() * 100 < loss[0]:
                    continue
                if len(queue) >= MAX_QUEUED:
                    continue
                hold = max(0.0, delay + rng.uniform(-jitter, jitter)) / 1000.0
                heapq.heappush(queue, (now + hold, sequence, peer[fd], packet))
                sequence += 1
        now = time.monotonic()
        while queue and queue[0][0] <= now:
            _, _, fd, packet = heapq.heappop(queue)
            try:
                os.write(fd, packet)
            except OSError:
                pass  # the far device is down or gone: the packet is lost, as on a real link


def main():
    args = parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    loss = [0.0 if args.loss_on_signal else args.loss]
    signal.signal(signal.SIGUSR1, lambda *_: loss.__setitem__(0, args.loss))
    fds = [open_tun(args.tun_a), open_tun(args.tun_b)]
    print("ready", flush=True)
    try:
        relay(fds, args.delay, args.jitter, loss, random.Random(args.seed))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()

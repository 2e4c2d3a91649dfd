#!/usr/bin/env bash
# Succeeds when 32-bit Wine can run natively here: the kernel starts 32-bit
# x86 programs itself (tried with Wine's own 32-bit loader, never assumed)
# and OWL_WINE32_QEMU=1 does not ask for the qemu path. A qemu-i386
# registered with binfmt_misc does not count as native.
set -u
[ "${OWL_WINE32_QEMU:-0}" != 1 ] || exit 1
[ -x /usr/lib/wine/wine ] || exit 1
! grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1

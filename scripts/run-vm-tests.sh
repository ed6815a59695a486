#!/usr/bin/env bash
# Runs test programs against the real Linux HID stack in a virtual machine:
# Debian's own kernel under qemu (KVM when a guest comes to life under it,
# plain emulation otherwise), an initramfs made here from busybox, the kernel's HID
# modules, the programs and the shared libraries they need. Inside, uhid,
# hid-generic and hidraw are loaded and the first program runs as a Qt Test
# suite; its output comes back over the serial console and its exit status
# is this script's. Extra programs are copied in beside it.
#
#   scripts/run-vm-tests.sh build/tests/kernel/tst_hidraw [build/tests/kernel/harrier-uhid]
#
# VM_TIMEOUT (seconds, default 420) bounds one machine run; VM_KVM_DEADLINE
# (default 20) is how long a KVM guest may stay silent before the run falls
# back to plain emulation; VM_QEMU names another qemu (the tests use stand-ins).
# When qemu,
# busybox or a kernel image is missing the run is skipped with exit code 77
# (scripts/install-deps.sh installs them).
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 TEST_PROGRAM [PROGRAM...]" >&2
  exit 2
fi
test_program="$(readlink -f "$1")"
programs=("$@")
timeout_s="${VM_TIMEOUT:-420}"

skip() {
  echo "################################################################" >&2
  echo "## SKIPPED: the virtual-machine test cannot run here: $*" >&2
  echo "## Install qemu-system-x86, linux-image-amd64, busybox-static and" >&2
  echo "## cpio (scripts/install-deps.sh does) to run it." >&2
  echo "################################################################" >&2
  exit 77
}

QEMU="${VM_QEMU:-qemu-system-x86_64}"
command -v "$QEMU" >/dev/null || skip "$QEMU is not installed"
command -v cpio >/dev/null || skip "cpio is not installed"
busybox=""
for b in /bin/busybox /usr/bin/busybox; do
  if [ -x "$b" ] && ! ldd "$b" >/dev/null 2>&1; then busybox="$b"; break; fi
done
[ -n "$busybox" ] || skip "no statically linked busybox (busybox-static)"
kernel="$(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1 || true)"
[ -n "$kernel" ] && [ -r "$kernel" ] || skip "no readable kernel image in /boot"
version="${kernel#/boot/vmlinuz-}"
moddir="/lib/modules/$version"
[ -f "$moddir/modules.dep" ] || skip "no modules for kernel $version"

work="$(mktemp -d "${TMPDIR:-/tmp}/harrier-vm.XXXXXX")"
trap 'rm -rf "$work"' EXIT
root="$work/root"
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,harrier,modules}

# busybox and its applets.
cp "$busybox" "$root/bin/busybox"
ln -s busybox "$root/bin/sh"

# The programs and every shared library they load, at their own paths.
copy_with_path() {
  local f="$1"
  [ -e "$root$f" ] && return 0
  mkdir -p "$root$(dirname "$f")"
  cp -L "$f" "$root$f"
}
for p in "${programs[@]}"; do
  cp "$p" "$root/harrier/"
  while read -r lib; do
    copy_with_path "$lib"
  done < <(ldd "$p" | awk '$2 == "=>" && $3 ~ /^\// {print $3} $1 ~ /^\// {print $1}')
done

# The HID modules and what they need, in load order (dependencies first).
modules=()
add_module() {
  local rel="$1" dep
  for m in "${modules[@]:-}"; do [ "$m" = "$rel" ] && return 0; done
  for dep in $(awk -F': *' -v m="$rel" '$1 == m {print $2}' "$moddir/modules.dep"); do
    add_module "$dep"
  done
  modules+=("$rel")
}
for name in hid uhid hid-generic; do
  rel="$(awk -F: -v n="/$name.ko" 'index($1, n) && substr($1, length($1) - length(n) + 1) == n {print $1}' "$moddir/modules.dep" | head -n 1)"
  [ -n "$rel" ] || skip "module $name.ko not found for kernel $version"
  add_module "$rel"
done
load=""
for rel in "${modules[@]}"; do
  base="$(basename "$rel")"
  case "$rel" in
    *.ko.xz) xz -dc "$moddir/$rel" > "$root/modules/${base%.xz}"; base="${base%.xz}" ;;
    *.ko.zst) zstd -qdc "$moddir/$rel" > "$root/modules/${base%.zst}"; base="${base%.zst}" ;;
    *) cp "$moddir/$rel" "$root/modules/$base" ;;
  esac
  load="$load /modules/$base"
done

cat > "$root/init" <<INIT
#!/bin/sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
for m in $load; do insmod \$m || echo "HARRIER-VM: cannot load \$m"; done
# hidraw is part of the hid module; uhid gives /dev/uhid.
i=0; while [ ! -e /dev/uhid ] && [ \$i -lt 50 ]; do sleep 0.1; i=\$((i+1)); done
echo "HARRIER-VM: kernel \$(uname -r), modules loaded"
cd /tmp
HOME=/tmp QT_QPA_PLATFORM=offscreen /harrier/$(basename "$test_program") 2>&1
echo "HARRIER-VM-EXIT=\$?"
poweroff -f
INIT
chmod +x "$root/init"
(cd "$root" && find . | cpio -o -H newc --quiet) > "$work/initramfs.cpio"

# The accelerator is chosen by evidence, not by the device file: /dev/kvm
# can exist on a machine that is itself virtual and still hang every guest
# (nested KVM). KVM is tried when the device is there; a guest that prints
# no line of ours within VM_KVM_DEADLINE seconds, or a qemu that stops
# before it does, is given up and the run starts again under plain
# emulation (tcg), which always works, only slower.
kvm_device="${VM_KVM_DEVICE:-/dev/kvm}"
kvm_deadline="${VM_KVM_DEADLINE:-20}"
tcg_deadline="${VM_TCG_DEADLINE:-180}"
log="$work/console.log"

# boot ACCEL CPU LIFE_DEADLINE: runs the machine once. Returns 0 when the
# guest showed a sign of life (the console log then holds its whole output
# and $qemu_status qemu's exit status), 3 when it showed none in time.
boot() {
  local accel="$1" cpu="$2" life="$3" start alive=0 pid
  : > "$log.raw"
  start=$(date +%s)
  timeout --kill-after=10 "$timeout_s" "$QEMU" \
    -machine q35 -accel "$accel" -cpu "$cpu" -smp 2 -m 1024 \
    -kernel "$kernel" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 rdinit=/init quiet loglevel=3 panic=-1 oops=panic" \
    -nographic -no-reboot -nodefaults -serial stdio -monitor none \
    < /dev/null > "$log.raw" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$alive" -eq 0 ]; then
      if grep -q 'HARRIER-VM:' "$log.raw"; then
        alive=1
        echo "== guest alive after $(( $(date +%s) - start )) s under $accel"
      elif [ $(( $(date +%s) - start )) -ge "$life" ]; then
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        why="no sign of life from the guest within $life s"
        tr -d '\r' < "$log.raw" | tail -n 5 | sed 's/^/   console: /'
        return 3
      fi
    fi
    sleep 0.5
  done
  set +e
  wait "$pid"
  qemu_status=$?
  set -e
  tr -d '\r' < "$log.raw" > "$log"
  if [ "$alive" -eq 0 ] && ! grep -q 'HARRIER-VM:' "$log"; then
    why="qemu stopped with status $qemu_status before the guest started"
    sed 's/^/   console: /' "$log" | tail -n 5
    return 3
  fi
  cat "$log"
  echo "== virtual machine ran $(( $(date +%s) - start )) s under $accel"
  return 0
}

echo "== virtual machine: kernel $version, initramfs $(( $(stat -c %s "$work/initramfs.cpio") / 1048576 )) MiB"
qemu_status=0
why=""
booted=0
if [ -r "$kvm_device" ] && [ -w "$kvm_device" ]; then
  echo "== accelerator: trying kvm ($kvm_device is usable), falling back to tcg after $kvm_deadline s without a sign of life"
  if boot kvm host "$kvm_deadline"; then
    booted=1
    echo "== accelerator: kvm (the guest started under it)"
  else
    echo "== accelerator: kvm given up: $why; starting again under tcg"
  fi
else
  echo "== accelerator: tcg ($kvm_device is missing or not usable)"
fi
if [ "$booted" -eq 0 ]; then
  if ! boot tcg max "$tcg_deadline"; then
    echo "FAIL: the virtual machine did not start under tcg either: $why" >&2
    exit 1
  fi
  echo "== accelerator: tcg"
fi

if [ "$qemu_status" -eq 124 ] || [ "$qemu_status" -eq 137 ]; then
  echo "FAIL: the virtual machine did not finish within ${timeout_s} s" >&2
  exit 1
fi
result="$(sed -n 's/^HARRIER-VM-EXIT=\([0-9]*\)$/\1/p' "$log" | tail -n 1)"
if [ -z "$result" ]; then
  echo "FAIL: the test program did not report its result (qemu exit status $qemu_status)" >&2
  exit 1
fi
exit "$result"

#!/usr/bin/env bash
# The virtual-machine script's choice of accelerator, with stand-ins for
# qemu: a KVM that keeps the guest silent (a hanging nested KVM), one that
# fails at once, one that works, and no KVM device at all. The guest is
# faked too: the stand-in prints what our init prints when it runs.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Stand-in qemu: FAKE_KVM says how KVM behaves, tcg always works.
cat > "$work/qemu" <<'FAKE'
#!/usr/bin/env bash
accel=""
while [ $# -gt 0 ]; do [ "$1" = "-accel" ] && accel="$2"; shift; done
echo "$accel" >> "$FAKE_LOG"
if [ "$accel" = kvm ]; then
  case "$FAKE_KVM" in
    silent) echo "Booting from ROM..."; exec sleep 600 ;;
    fail) echo "Could not access KVM kernel module: Permission denied" >&2; exit 1 ;;
  esac
fi
[ "${FAKE_TCG:-works}" = silent ] && exec sleep 600
printf 'HARRIER-VM: kernel fake, modules loaded\r\nPASS   : tst_fake::works()\r\nHARRIER-VM-EXIT=%s\r\n' "${FAKE_EXIT:-0}"
FAKE
chmod +x "$work/qemu"
: > "$work/kvm"

passed=0
failed=0
# check NAME EXPECTED_STATUS EXPECTED_ACCELERATORS [ENV...]
check() {
  local name="$1" want_status="$2" want_accels="$3"; shift 3
  : > "$work/accels"
  local out status accels
  out="$(env VM_QEMU="$work/qemu" FAKE_LOG="$work/accels" VM_KVM_DEADLINE=2 VM_TCG_DEADLINE=2 "$@" \
        "$ROOT/scripts/run-vm-tests.sh" /bin/true 2>&1)"
  status=$?
  accels="$(tr '\n' ' ' < "$work/accels" | sed 's/ $//')"
  if [ "$status" -eq 77 ]; then
    echo "SKIP   : $name (the machine lacks a kernel image or busybox)"
    exit 77
  fi
  if [ "$status" -eq "$want_status" ] && [ "$accels" = "$want_accels" ] && grep -q '== accelerator' <<<"$out"; then
    echo "PASS   : $name ($accels)"
    passed=$((passed + 1))
  else
    echo "FAIL!  : $name: status $status (want $want_status), accelerators '$accels' (want '$want_accels')"
    sed 's/^/    /' <<<"$out"
    failed=$((failed + 1))
  fi
}

check "silent kvm falls back to tcg" 0 "kvm tcg" VM_KVM_DEVICE="$work/kvm" FAKE_KVM=silent
check "kvm failing at once falls back to tcg" 0 "kvm tcg" VM_KVM_DEVICE="$work/kvm" FAKE_KVM=fail
check "working kvm is kept" 0 "kvm" VM_KVM_DEVICE="$work/kvm" FAKE_KVM=works
check "no kvm device: tcg only" 0 "tcg" VM_KVM_DEVICE="$work/none" FAKE_KVM=works
check "the guest's own failure is reported, not retried" 3 "kvm" VM_KVM_DEVICE="$work/kvm" FAKE_KVM=works FAKE_EXIT=3
check "a silent tcg fails in bounded time" 1 "kvm tcg" VM_KVM_DEVICE="$work/kvm" FAKE_KVM=silent FAKE_TCG=silent

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

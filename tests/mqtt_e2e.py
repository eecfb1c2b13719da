#!/usr/bin/env python3
"""irwav-mqtt against a real broker.

Starts Debian's mosquitto on 127.0.0.1 (free ports, its own configuration, a
password file, a TLS listener whose CA this script makes with openssl) and
drives the daemon with mosquitto_pub and mosquitto_sub. The daemon plays into
ALSA's file plugin, so what reached the sound card is compared, sample for
sample, with what `irwav-play --output` writes for the same signal.

Usage: mqtt_e2e.py BIN_DIR   (the build's src/, holding irwav-mqtt and irwav-play)
"""

import json
import os
import pwd
import signal
import socket
import subprocess
import sys
import tempfile
import time

BIN = os.path.abspath(sys.argv[1])
TMP = tempfile.mkdtemp(prefix="irwav-mqtt-")
USER, PASSWORD = "emitter", "s3cret pass"
CAPTURE = os.path.join(TMP, "capture.raw")
processes = []
failures = []


def say(text):
    print("mqtt: " + text, flush=True)


def check(condition, what):
    if not condition:
        failures.append(what)
        say("FAILED: " + what)
    return condition


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, **kwargs)


# ---------------------------------------------------------------- the broker

PORT, TLS_PORT = free_port(), free_port()


def make_certificates():
    """A CA, a server certificate it signs for 127.0.0.1 and localhost, one
    for another host, and a second CA that signed neither."""
    def path(name):
        return os.path.join(TMP, name)
    for ca in ("ca", "other-ca"):
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
            "-subj", "/CN=irwav test " + ca, "-keyout", path(ca + ".key"), "-out", path(ca + ".crt"))
    for name, san in (("server", "IP:127.0.0.1,DNS:localhost"), ("elsewhere", "DNS:elsewhere.invalid")):
        run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + name,
            "-keyout", path(name + ".key"), "-out", path(name + ".csr"))
        with open(path(name + ".ext"), "w") as f:
            f.write("subjectAltName=" + san + "\n")
        run("openssl", "x509", "-req", "-in", path(name + ".csr"), "-CA", path("ca.crt"),
            "-CAkey", path("ca.key"), "-CAcreateserial", "-days", "2",
            "-extfile", path(name + ".ext"), "-out", path(name + ".crt"))


def broker_config(server_cert="server"):
    conf = os.path.join(TMP, "mosquitto.conf")
    with open(conf, "w") as f:
        # As root mosquitto would switch to its own user, who cannot read
        # this directory; it stays the user that runs the test.
        f.write(f"""user {pwd.getpwuid(os.getuid()).pw_name}
per_listener_settings false
allow_anonymous false
password_file {TMP}/passwords
persistence false
log_dest file {TMP}/broker.log
listener {PORT} 127.0.0.1
listener {TLS_PORT} 127.0.0.1
cafile {TMP}/ca.crt
certfile {TMP}/{server_cert}.crt
keyfile {TMP}/{server_cert}.key
""")
    return conf


broker = None


def start_broker(server_cert="server"):
    global broker
    broker = subprocess.Popen(["mosquitto", "-c", broker_config(server_cert)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    processes.append(broker)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", PORT), 0.2).close()
            return
        except OSError:
            time.sleep(0.05)
    sys.exit("mqtt: the broker did not start: " + open(os.path.join(TMP, "broker.log")).read())


def stop_broker():
    broker.terminate()
    broker.wait(10)


AUTH = ["-h", "127.0.0.1", "-u", USER, "-P", PASSWORD]


def pub(topic, payload, *extra):
    args = ["mosquitto_pub", *AUTH, "-p", str(PORT), "-t", topic, *extra]
    if isinstance(payload, bytes):
        subprocess.run(args + ["-s"], input=payload, check=True)
    else:
        subprocess.run(args + ["-m", payload], check=True)


def retained(pattern, wait=2):
    """The retained messages under `pattern`: {topic: payload}."""
    out = subprocess.run(["mosquitto_sub", *AUTH, "-p", str(PORT), "-t", pattern, "-v",
                          "-W", str(wait), "--retained-only"], capture_output=True, text=True)
    found = {}
    for line in out.stdout.splitlines():
        topic, _, payload = line.partition(" ")
        found[topic] = payload
    return found


class Results:
    """Every message on a result topic, read by a mosquitto_sub of its own."""

    def __init__(self, topic):
        self.path = os.path.join(TMP, "results-%d.txt" % len(processes))
        self.file = open(self.path, "w")
        self.proc = subprocess.Popen(["mosquitto_sub", *AUTH, "-p", str(PORT), "-t", topic],
                                     stdout=self.file, stderr=subprocess.DEVNULL)
        processes.append(self.proc)
        self.seen = 0
        time.sleep(0.3)  # subscribed before anything is published

    def all(self):
        with open(self.path) as f:
            return [json.loads(line) for line in f if line.endswith("\n")]

    def next(self, count=1, timeout=15):
        """The next `count` results, waiting for them."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.all()
            if len(lines) >= self.seen + count:
                got = lines[self.seen:self.seen + count]
                self.seen += count
                return got
            time.sleep(0.02)
        got = self.all()[self.seen:]
        self.seen += len(got)
        check(False, "expected %d results, %d came" % (count, len(got)))
        return got + [{}] * (count - len(got))


# ---------------------------------------------------------------- the daemon

ASOUND = os.path.join(TMP, "asound.conf")


def write_asound(card_present):
    """The default device captures into CAPTURE; the device "away" is a card
    that is not there (no such card) until it comes back into card.raw.
    ALSA reads its configuration again when the file changes."""
    with open(ASOUND, "w") as f:
        f.write('pcm.!default { type file slave { pcm { type null } } file "%s" format "raw" }\n'
                % CAPTURE)
        if card_present:
            f.write('pcm.away { type file slave { pcm { type null } } file "%s/card.raw" format "raw" }\n'
                    % TMP)
        else:
            f.write("pcm.away { type hw card 31 }\n")


write_asound(False)
ENV = dict(os.environ, ALSA_CONFIG_PATH=ASOUND)
PASSWORD_FILE = os.path.join(TMP, "password")
with open(PASSWORD_FILE, "w") as f:
    f.write(PASSWORD + "\n")


def start_daemon(name="den", *extra, password_file=PASSWORD_FILE, port=None, scheme="mqtt"):
    log = open(os.path.join(TMP, "daemon-%s.err" % name), "a")
    args = [os.path.join(BIN, "irwav-mqtt"), "--broker", "%s://127.0.0.1:%d" % (scheme, port or PORT),
            "--username", USER, "--name", name, *extra]
    if password_file:
        args += ["--password-file", password_file]
    proc = subprocess.Popen(args, env=ENV, stdout=subprocess.DEVNULL, stderr=log)
    processes.append(proc)
    return proc


def wait_status(name, value, timeout=15):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if retained("irwav/%s/status" % name, 1).get("irwav/%s/status" % name) == value:
            return True
    return False


def rss_kib(proc):
    with open("/proc/%d/status" % proc.pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def player_samples(*args):
    """The sample data irwav-play --output writes for `args`."""
    out = os.path.join(TMP, "expected.wav")
    subprocess.run([os.path.join(BIN, "irwav-play"), "-q", "--output", out, *args], check=True)
    with open(out, "rb") as f:
        return f.read()[44:]


def captured():
    with open(CAPTURE, "rb") as f:
        return f.read()


def ir_file(us, hz):
    """A raw signal of an .ir file holding durations `us` at `hz`."""
    path = os.path.join(TMP, "signal.ir")
    with open(path, "w") as f:
        f.write("Filetype: IR signals file\nVersion: 1\nname: s\ntype: raw\n"
                "frequency: %d\nduty_cycle: 0.330000\ndata: %s\n" % (hz, " ".join(map(str, us))))
    return path


def emitter_payload_as_ir(timings, hz, repeat_count):
    """What the emitter payload sends, as the durations of one raw signal:
    the sequence 1 + repeat_count times, each send followed by the sequence's
    own final space, or by 40 ms when it ends with a mark."""
    durations = [abs(t) for t in timings]
    gap = [] if timings[-1] < 0 else [40000]
    return ir_file((durations + gap) * repeat_count + durations, hz)


# ---------------------------------------------------------------- scenarios

# NEC1 in Pronto's format, with its repeat sequence (the seed of the code
# parsers' fuzzer).
NEC1_PRONTO = (
    "0000 006C 0022 0002 015A 00AD 0016 0016 0016 0016 0016 0041 0016 0016 0016 0016 "
    "0016 0016 0016 0016 0016 0016 0016 0041 0016 0041 0016 0016 0016 0041 0016 0041 "
    "0016 0041 0016 0041 0016 0041 0016 0016 0016 0016 0016 0016 0016 0041 0016 0016 "
    "0016 0016 0016 0016 0016 0016 0016 0041 0016 0041 0016 0041 0016 0016 0016 0041 "
    "0016 0041 0016 0041 0016 0041 0016 05F6 015A 0057 0016 0E6B")

def discovery(results):
    say("discovery: the emitter and the remote's buttons, retained; announced again on HA's birth")
    configs = retained("homeassistant/#")
    emitter = json.loads(configs.get("homeassistant/infrared/irwav_den/emitter/config", "{}"))
    check(emitter.get("schema") == "emitter", "the emitter config has schema emitter: %s" % emitter)
    check(emitter.get("command_topic") == "irwav/den/send", "the emitter's command topic")
    check(emitter.get("availability_topic") == "irwav/den/status", "the emitter's availability topic")
    check(emitter.get("unique_id") == "irwav_den_emitter", "the emitter's unique_id")
    device = emitter.get("device", {})
    check(device.get("identifiers") == ["irwav_den"] and device.get("name") and device.get("model")
          and device.get("sw_version"), "the emitter's device: %s" % device)
    buttons = {t: json.loads(p) for t, p in configs.items() if t.startswith("homeassistant/button/")}
    listing = subprocess.run([os.path.join(BIN, "irwav-play"), "--keys", "necx2:7.7"],
                             capture_output=True, text=True, check=True).stdout.splitlines()[2:]
    keys = {line.split()[0] for line in listing if not line.startswith(" ")}
    for tv in ("Living room", "Bedroom"):
        # Both name the family NECx2:7.7: the second as the brand whose most
        # widely documented power code is of that family.
        mine = [c for c in buttons.values() if c["device"]["name"] == tv]
        pressed = {json.loads(c["payload_press"])["code"] for c in mine}
        check(pressed == {"NECx2:7.7:" + key for key in keys},
              "%s: a button for each of the %d keys irwav-play --keys lists: %s"
              % (tv, len(keys), sorted(pressed)[:5]))
        for config in mine:
            key = json.loads(config["payload_press"])["code"].split(":")[-1]
            check(config["command_topic"] == "irwav/den/code" and config["icon"].startswith("mdi:")
                  and config["unique_id"].endswith("_" + key)
                  and config["device"]["via_device"] == "irwav_den", "button %s" % config)
    power = buttons.get("homeassistant/button/irwav_den/living_room_power/config", {})
    check(power.get("name") == "Power" and power.get("icon") == "mdi:power", "the Power button")
    # Pressing it sends the family's power key.
    pub(power["command_topic"], power["payload_press"])
    played = results.next()[0]
    check(played.get("ok") is True, "pressing Power plays: %s" % played)
    check(captured() == player_samples("--code", "necx2:7.7:power"),
          "the Power button's samples are irwav-play --code necx2:7.7:power's")
    # Home Assistant restarted and lost its configs: its birth message brings them back.
    topic = "homeassistant/infrared/irwav_den/emitter/config"
    pub(topic, "", "-r")
    check(topic not in retained(topic, 1), "the config was cleared")
    pub("homeassistant/status", "online")
    time.sleep(0.5)
    check(retained(topic, 1).get(topic) is not None, "the birth message announces the emitter again")


def playing(results):
    say("playing: each command's samples against irwav-play --output of the same code")
    cases = [
        ('{"code":"necx2:7.7:volume_up"}', ["--code", "necx2:7.7:volume_up"]),
        ('{"code":"sony"}', ["sony"]),
        ('{"code":"22"}', ["22"]),
        ('{"code":"rc5:0:12","repeat":2}', ["--repeat", "2", "--code", "rc5:0:12"]),
        ('{"code":"nec1:4:8","hold_ms":500}', ["--hold", "500", "--code", "nec1:4:8"]),
        ('{"pronto":"%s"}' % NEC1_PRONTO, ["--pronto", NEC1_PRONTO]),
        ('{"pronto":"%s","hold_ms":400}' % NEC1_PRONTO, ["--hold", "400", "--pronto", NEC1_PRONTO]),
        ('{"irp":"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]","D":1,"F":21}',
         ["--irp", "{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]", "D=1", "F=21"]),
    ]
    for payload, args in cases:
        pub("irwav/den/code", payload)
        result = results.next()[0]
        check(result.get("ok") is True and result.get("started"), "%s plays: %s" % (payload, result))
        check(captured() == player_samples(*args), "%s: the samples are irwav-play %s's" % (payload, args))
    # Signals of NEC's shape (leader, 32 bits, a stop mark), and one of Sony's.
    nec = [9000, -4500] + sum(([562, -1687] if bit else [562, -562]
                               for bit in [0, 0, 1, 0, 0, 0, 0, 0] * 4), []) + [562]
    for timings, hz, repeat_count in ((nec, 38000, 0), (nec, 38000, 2),
                                      (nec + [-40000], 36000, 1), ([2400, -600, 1200, -600, 600], 40000, 0)):
        payload = json.dumps({"timings": timings, "modulation": hz, "repeat_count": repeat_count})
        pub("irwav/den/send", payload)
        result = results.next()[0]
        check(result.get("ok") is True, "an emitter payload plays: %s" % result)
        check(captured() == player_samples("--ir", emitter_payload_as_ir(timings, hz, repeat_count)),
              "emitter payload %d Hz, %d values, repeat_count %d: the samples are the .ir file's"
              % (hz, len(timings), repeat_count))


BAD = [
    # (topic, payload, a part of the message)
    ("send", "{not json", "not JSON"),
    ("send", "[1,2]", "not a JSON object"),
    ("send", '{"modulation":38000}', '"timings" is missing'),
    ("send", '{"timings":[9000,-4500,562]}', '"modulation" is missing'),
    ("send", '{"timings":"9000","modulation":38000}', "not a list"),
    ("send", '{"timings":[],"modulation":38000}', "empty"),
    ("send", '{"timings":[9000,"-4500",562],"modulation":38000}', "timings[1] is not a whole number"),
    ("send", '{"timings":[9000,-4500.5,562],"modulation":38000}', "timings[1] is not a whole number"),
    ("send", '{"timings":[9000,4500,562],"modulation":38000}', "timings[1] is 4500, where a space"),
    ("send", '{"timings":[-9000,4500],"modulation":38000}', "timings[0] is -9000, where a mark"),
    ("send", '{"timings":[9000,0,562],"modulation":38000}', "timings[1] is 0"),
    ("send", '{"timings":[9000,-4,562],"modulation":38000}', "at least 5 us"),
    ("send", '{"timings":[99999999999999999999,-4500],"modulation":38000}', "timings[0]"),
    ("send", '{"timings":[9000,-4500,-9223372036854775808],"modulation":38000}', "timings[2]"),
    ("send", '{"timings":[9000000,-9000000,562],"modulation":38000}', "one code may last at most 10 s"),
    ("send", '{"timings":[900000,-100000,562],"modulation":38000,"repeat_count":10}', "at most 10 s"),
    ("send", '{"timings":[9000,-4500,562],"modulation":38000,"repeat_count":21}', "not from 0 to 20"),
    ("send", '{"timings":[9000,-4500,562],"modulation":38000,"repeat_count":-1}', "not from 0 to 20"),
    ("send", '{"timings":[9000,-4500,562],"modulation":"38k"}', '"modulation" is not a whole number'),
    ("send", '{"timings":[9000,-4500,562],"modulation":100}', "outside 15000 to 500000 Hz"),
    ("send", '{"timings":[9000,-4500,562],"modulation":600000}', "outside 15000 to 500000 Hz"),
    ("send", '{"timings":[9000,-4500,562],"modulation":0}', "without a carrier"),
    ("send", '{"timings":[9000,-4500,562],"modulation":56000}', "does not render at 48000 Hz (--rate 96000 plays it)"),
    ("send", b'{"timings":[9000,-4500,562],"modulation":38000,"x":"\xff\xfe"}', "not JSON"),
    ("send", b'\xc3\x28', "not JSON"),
    ("send", '{"timings":[9000,-1e400,562],"modulation":38000}', "number overflow"),
    ("send", "{" + '"x":"' + "a" * 70000 + '"}', "at most 65536 are read"),
    ("code", '{"code":"nosuchcode"}', 'no code named "nosuchcode"'),
    ("code", '{"code":"necx2:7.7:no_key"}', "no_key"),
    ("code", '{"code":"nec1:4:999"}', "999"),
    ("code", '{"code":"rca"}', "does not render at 48000 Hz"),
    ("code", '{"code":"sony","pronto":"0000"}', "both given"),
    ("code", '{"volume":1}', "names no code"),
    ("code", '{"code":7}', '"code" is not a string'),
    ("code", '{"code":"sony","repeat":21}', '"repeat" is 21'),
    ("code", '{"code":"sony","repeat":0}', '"repeat" is 0'),
    ("code", '{"code":"nec1:4:8","hold_ms":90000}', '"hold_ms" is 90000'),
    ("code", '{"code":"sony","colour":"red"}', '"colour" does not belong'),
    ("code", '{"pronto":"0000 0001"}', "pronto"),
    ("code", '{"irp":"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5)[D:0..31,F:0..127]","D":99,"F":1}', "irp"),
    ("code", '{"brand":"nosuchbrand"}', "nosuchbrand"),
]


def hostile(results, daemon):
    say("hostile input: %d bad payloads, each refused in words; then a flood" % len(BAD))
    for topic, payload, words in BAD:
        pub("irwav/den/" + topic, payload)
        result = results.next()[0]
        shown = payload[:80] if isinstance(payload, str) else repr(payload)
        check(result.get("ok") is False and words in result.get("error", ""),
              "%s %s is refused with \"%s\": %s" % (topic, shown, words, result.get("error")))
    err = open(os.path.join(TMP, "daemon-den.err")).read()
    check(err.count("refused:") >= len(BAD), "each refusal is on standard error too")
    pub("irwav/den/code", '{"code":"sony"}')
    check(results.next()[0].get("ok") is True and captured() == player_samples("sony"),
          "after the bad input the next good command plays")

    before = rss_kib(daemon)
    flood = 3000
    lines = "\n".join(BAD[i % len(BAD)][1] if isinstance(BAD[i % len(BAD)][1], str)
                      and len(BAD[i % len(BAD)][1]) < 1000 else "{}" for i in range(flood)) + "\n"
    subprocess.run(["mosquitto_pub", *AUTH, "-p", str(PORT), "-t", "irwav/den/send", "-l"],
                   input=lines.encode(), check=True)
    got = results.next(flood, timeout=60)
    check(all(r.get("ok") is False for r in got), "every message of the flood is refused")
    after = rss_kib(daemon)
    say("flood: %d refused; resident memory %d KiB before, %d KiB after" % (len(got), before, after))
    check(after - before < 2048, "memory stays bounded over the flood (%d -> %d KiB)" % (before, after))
    check(daemon.poll() is None, "the daemon is still up")
    pub("irwav/den/code", '{"code":"necx2:7.7:mute"}')
    check(results.next()[0].get("ok") is True and captured() == player_samples("--code", "necx2:7.7:mute"),
          "after the flood the next good command plays")


def lost_card_and_full_queue():
    say("a sound card that is away: reported and tried again; the bounded queue refuses the rest")
    results = Results("irwav/away/result")
    daemon = start_daemon("away", "--device", "away")
    check(wait_status("away", "online"), "the second emitter comes online")
    count = 20
    for i in range(count):
        pub("irwav/away/code", '{"code":"sony"}')
    got = results.next(count, timeout=60)
    full = [r for r in got if "queue is full" in r.get("error", "")]
    card = [r for r in got if "cannot open audio device" in r.get("error", "")]
    check(len(got) == count and len(full) + len(card) == count and full and card,
          "every command is answered: %d queue full, %d card away" % (len(full), len(card)))
    check(all("tried 3 times" in r["error"] for r in card), "the card is tried again: %s" % card[:1])
    say("  %d answered: %d found the queue full, %d found no card: %s"
        % (len(got), len(full), len(card), card[0]["error"] if card else ""))
    check(daemon.poll() is None, "the daemon stays up without its card")
    write_asound(True)
    pub("irwav/away/code", '{"code":"sony"}')
    result = results.next(timeout=30)[0]
    with open(os.path.join(TMP, "card.raw"), "rb") as f:
        check(result.get("ok") is True and f.read() == player_samples("sony"),
              "the card back, the next command plays on it: %s" % result)
    daemon.terminate()
    daemon.wait(10)


def availability(results):
    say("availability: kill -9 leaves the last will; a restart says online; SIGTERM says offline")
    daemon = start_daemon("den", "--tv", "Living room=necx2:7.7", "--tv", "Bedroom=samsung")
    check(wait_status("den", "online"), "online after a start")
    daemon.kill()
    daemon.wait()
    check(wait_status("den", "offline"), "offline from the broker's last will after kill -9")
    daemon = start_daemon("den", "--tv", "Living room=necx2:7.7", "--tv", "Bedroom=samsung")
    check(wait_status("den", "online"), "online again after a restart")
    return daemon


def broker_restart(results, daemon):
    say("the broker restarts in the middle of a run: the daemon reconnects and plays again")
    stop_broker()
    time.sleep(2)
    start_broker()
    check(wait_status("den", "online", timeout=40), "online again once the broker is back")
    results.__init__("irwav/den/result")
    pub("irwav/den/code", '{"code":"necx2:7.7:channel_up"}')
    check(results.next()[0].get("ok") is True
          and captured() == player_samples("--code", "necx2:7.7:channel_up"),
          "a command plays after the broker's restart")
    check(daemon.poll() is None, "the daemon was not restarted")
    err = open(os.path.join(TMP, "daemon-den.err")).read()
    check("connected again" in err, "the reconnection is logged")
    return results


def refused_logins():
    say("a wrong password, no password, a wrong CA and a certificate for another host are refused")

    def ends(proc, words, what):
        try:
            proc.wait(20)
        except subprocess.TimeoutExpired:
            proc.kill()
            check(False, what + ": the daemon did not end")
            return
        err = open(proc.args_log).read()
        say("  %s: %s" % (what, err.strip().splitlines()[-1] if err.strip() else "(nothing said)"))
        check(proc.returncode == 1 and words in err, "%s: status %s, %s" % (what, proc.returncode, err[-300:]))

    wrong = os.path.join(TMP, "wrong-password")
    with open(wrong, "w") as f:
        f.write("not it\n")
    for name, args, kwargs, words, what in (
            ("wrongpw", [], {"password_file": wrong}, "check --username", "a wrong password"),
            ("nopw", [], {"password_file": None}, "refused the connection", "no password"),
            ("wrongca", ["--cafile", os.path.join(TMP, "other-ca.crt")],
             {"port": TLS_PORT, "scheme": "mqtts"}, "certificate verify failed", "a wrong CA")):
        proc = start_daemon(name, *args, **kwargs)
        proc.args_log = os.path.join(TMP, "daemon-%s.err" % name)
        ends(proc, words, what)
    # The right CA: the emitter works over TLS.
    results = Results("irwav/tls/result")
    proc = start_daemon("tls", "--cafile", os.path.join(TMP, "ca.crt"), port=TLS_PORT, scheme="mqtts")
    check(wait_status("tls", "online"), "online over TLS with the right CA")
    pub("irwav/tls/code", '{"code":"sony"}')
    check(results.next()[0].get("ok") is True, "a command plays over TLS")
    proc.terminate()
    proc.wait(10)
    # The right CA, but the certificate is made out to another host: the host check refuses it.
    stop_broker()
    start_broker("elsewhere")
    proc = start_daemon("tlshost", "--cafile", os.path.join(TMP, "ca.crt"), port=TLS_PORT, scheme="mqtts")
    proc.args_log = os.path.join(TMP, "daemon-tlshost.err")
    ends(proc, "TLS with the broker", "a certificate for another host")
    stop_broker()
    start_broker()


def sigterm(daemon):
    say("SIGTERM: offline, status 0")
    check(wait_status("den", "online", timeout=40), "online before SIGTERM")
    daemon.send_signal(signal.SIGTERM)
    check(daemon.wait(10) == 0, "SIGTERM ends the daemon with status 0")
    check(wait_status("den", "offline", timeout=5), "SIGTERM publishes offline")


def main():
    make_certificates()
    run("mosquitto_passwd", "-b", "-c", os.path.join(TMP, "passwords"), USER, PASSWORD)
    start_broker()
    try:
        results = Results("irwav/den/result")
        daemon = availability(results)
        discovery(results)
        playing(results)
        hostile(results, daemon)
        results = broker_restart(results, daemon)
        lost_card_and_full_queue()
        refused_logins()
        sigterm(daemon)
    finally:
        for proc in processes:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
    if failures:
        say("%d checks failed; the files are in %s" % (len(failures), TMP))
        sys.exit(1)
    subprocess.run(["rm", "-rf", TMP])
    say("every check passed")


main()

// Recording what a person does as a scenario file, and playing one back.
//
// While recording, every step the page sends that the phone takes is kept,
// with the time that passed before it as an `advance` step, so that
// `plv-sim run` of the file on a freshly seeded phone, on its virtual clock,
// goes through the same states. Keys typed one after another become one
// `type` step (the time they took is added to the wait after them). Refused
// steps are left out: they changed nothing. "Save scenario" writes the steps
// up to now, the time since the last one, and a closing `dump`.
//
// An opened scenario file is listed step by step with each step's comment,
// and played one step at a time or all at once; playing stops at a step the
// phone refuses, as `plv-sim run` does.

const $ = (selector) => document.querySelector(selector);

// Keys typed within this many seconds of each other are one `type` step.
const TYPING_PAUSE = 1;
// The server waits at most a minute for one step; longer waits are cut.
const LONGEST_ADVANCE = 60;

const seconds = (milliseconds) => Math.round(milliseconds) / 1000;

// What a step does, in words, for the comment of a step that has none.
const DESCRIBE = {
    receive_sms: (step) => `an SMS arrives from ${step.from}`,
    receive_imessage: (step) => `an iMessage arrives from ${step.from}${step.picture ? ' with a picture' : ''}`,
    receive_mail: (step) => `an e-mail arrives from ${step.from}`,
    type: (step) => `types “${step.text}”`,
    rotate: (step) => `the phone turns to orientation ${step.orientation}`,
    open_app: (step) => `opens ${step.bundle}`,
    quit_app: (step) => `quits ${step.bundle}`,
    advance: (step) => `${step.seconds} s pass`,
};

export const describe = (step) => step.comment || DESCRIBE[step.step]?.(step) || step.step.replaceAll('_', ' ');

// One step a line, as people write them.
export function scenarioText(steps) {
    return `[\n${steps.map((step) => `    ${JSON.stringify(step)}`).join(',\n')}\n]\n`;
}

// The steps of a scenario file's text, or an error naming what is wrong.
export function parseScenario(text) {
    let steps;
    try {
        steps = JSON.parse(text);
    } catch (error) {
        return { error: `not JSON: ${error.message}` };
    }
    if (!Array.isArray(steps)) return { error: 'a scenario is an array of steps' };
    const bad = steps.findIndex((step) => !step || typeof step !== 'object' || Array.isArray(step) || typeof step.step !== 'string');
    if (bad >= 0) return { error: `step ${bad + 1} is not a step object with "step"` };
    return { steps };
}

// A recording: the steps kept as they were answered; times in milliseconds
// of the page's clock.
export class Recording {
    constructor(startedAt) {
        this.steps = [];
        this.lastAt = startedAt;
        // The time since the last kept step, not yet written as an `advance`.
        this.waiting = 0;
    }

    add(step, at) {
        const gap = Math.max(at - this.lastAt, 0);
        this.lastAt = at;
        this.waiting += gap;
        // Waiting is measured: an `advance` sent while recording is part of
        // the time that passes, and a dump changes nothing.
        if (step.step === 'advance' || step.step === 'dump') return;
        const last = this.steps.at(-1);
        if (step.step === 'type' && last?.step === 'type' && gap < TYPING_PAUSE * 1000) {
            last.text += step.text;
            last.comment = describe({ step: 'type', text: last.text });
            return;
        }
        this.wait();
        this.steps.push({ ...step, comment: describe(step) });
    }

    wait() {
        const time = seconds(this.waiting);
        this.waiting = 0;
        if (time > 0) this.steps.push({ step: 'advance', seconds: time, comment: describe({ step: 'advance', seconds: time }) });
    }

    // The scenario up to `now`: the steps, the wait since the last, a dump.
    scenario(now) {
        const copy = new Recording(this.lastAt);
        copy.steps = this.steps.map((step) => ({ ...step }));
        copy.waiting = this.waiting + Math.max(now - this.lastAt, 0);
        copy.wait();
        return [...copy.steps, { step: 'dump', comment: 'the phone as the page showed it' }];
    }
}

export function createRecorder({ send, onStep, report }) {
    let recording = null;
    let replay = null; // {name, steps, next, playing}

    onStep((step, answer, at) => {
        if (recording && answer.ok) recording.add(step, at);
        if (recording) $('#recording-count').textContent = `${recording.steps.length} steps`;
    });

    function showRecording() {
        document.body.dataset.recording = Boolean(recording);
        $('#record-button').textContent = recording ? '■ Stop recording' : '● Record';
        $('#save-scenario').disabled = !recording && !$('#save-scenario').dataset.kept;
        if (!recording) $('#recording-count').textContent = '';
    }

    let kept = null;

    function toggleRecording() {
        if (recording) {
            kept = recording.scenario(performance.now());
            recording = null;
            $('#save-scenario').dataset.kept = 'true';
        } else {
            recording = new Recording(performance.now());
            kept = null;
            delete $('#save-scenario').dataset.kept;
            $('#recording-count').textContent = '0 steps';
        }
        showRecording();
    }

    function save() {
        const steps = recording ? recording.scenario(performance.now()) : kept;
        if (!steps) return;
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([scenarioText(steps)], { type: 'application/json' }));
        link.download = `scenario-${new Date().toISOString().slice(0, 19).replaceAll(':', '-')}.json`;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    }

    // MARK: Replay

    function showReplay() {
        const list = $('#replay-steps');
        list.replaceChildren(
            ...(replay?.steps || []).map((step, index) => {
                const item = document.createElement('li');
                item.dataset.state = index < replay.next ? 'done' : index === replay.next ? (replay.failed ? 'failed' : 'next') : 'later';
                const name = document.createElement('code');
                name.textContent = step.step;
                const comment = document.createElement('span');
                comment.textContent = describe(step);
                item.append(name, comment);
                return item;
            }),
        );
        list.querySelector('[data-state="next"], [data-state="failed"]')?.scrollIntoView({ block: 'nearest' });
        const done = !replay || replay.next >= replay.steps.length;
        $('#replay-step').disabled = done || replay.playing || replay.failed;
        $('#replay-all').disabled = done || replay.playing || replay.failed;
        $('#replay-name').textContent = replay ? `${replay.name}: ${Math.min(replay.next, replay.steps.length)} of ${replay.steps.length} steps played` : '';
    }

    // Plays the next step; answers whether it ran.
    async function playNext() {
        const step = replay.steps[replay.next];
        const { comment, ...body } = step;
        // A long wait goes as several, each within what the server waits.
        const parts = [];
        if (body.step === 'advance' && body.seconds > LONGEST_ADVANCE) {
            for (let left = body.seconds; left > 0; left -= LONGEST_ADVANCE) parts.push({ step: 'advance', seconds: Math.min(left, LONGEST_ADVANCE) });
        } else {
            parts.push(comment === undefined ? body : { ...body, comment });
        }
        for (const part of parts) {
            const answer = await send(part);
            if (!answer.ok) {
                replay.failed = true;
                report('error', `step ${replay.next + 1} (${step.step}): ${answer.error || 'refused'}`);
                return false;
            }
        }
        report('ok', `step ${replay.next + 1} of ${replay.steps.length}: ${describe(step)}`);
        replay.next += 1;
        return true;
    }

    async function play(all) {
        if (!replay || replay.playing) return;
        replay.playing = true;
        showReplay();
        try {
            do {
                if (!(await playNext())) break;
                showReplay();
            } while (all && replay.next < replay.steps.length);
        } finally {
            replay.playing = false;
            showReplay();
        }
    }

    async function open(file) {
        const parsed = parseScenario(await file.text());
        if (parsed.error) {
            report('error', `${file.name}: ${parsed.error}`);
            return;
        }
        replay = { name: file.name, steps: parsed.steps, next: 0, playing: false, failed: false };
        showReplay();
    }

    $('#record-button').addEventListener('click', toggleRecording);
    $('#save-scenario').addEventListener('click', save);
    $('#open-scenario').addEventListener('change', (event) => {
        const [file] = event.target.files;
        if (file) open(file);
        event.target.value = '';
    });
    $('#replay-step').addEventListener('click', () => play(false));
    $('#replay-all').addEventListener('click', () => play(true));
    showRecording();
    showReplay();
}

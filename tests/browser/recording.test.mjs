// The recorder's bookkeeping, without a browser: which steps a recording
// keeps, how the time between them becomes `advance` steps (none lost, none
// counted twice), and which files open as scenarios.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Recording, parseScenario, scenarioText } from '../../web/recorder.js';

const total = (steps) => steps.filter((step) => step.step === 'advance').reduce((sum, step) => sum + step.seconds, 0);

test('the time between steps becomes advance steps, and the whole time is kept', () => {
    const recording = new Recording(1000);
    recording.add({ step: 'receive_sms', from: '+39', text: 'Ci sei?' }, 1000);
    recording.add({ step: 'tap', x: 160, y: 40, comment: 'tap on banner' }, 3500);
    // Keys typed one after another are one step; their time follows it.
    recording.add({ step: 'type', text: 'O' }, 4000);
    recording.add({ step: 'type', text: 'k' }, 4300);
    recording.add({ step: 'type', text: '!' }, 4900);
    // A pause over a second starts a new type step.
    recording.add({ step: 'type', text: '?' }, 6500);
    recording.add({ step: 'lock' }, 6500);
    const steps = recording.scenario(9000);
    assert.deepEqual(
        steps.map((step) => step.step),
        ['receive_sms', 'advance', 'tap', 'advance', 'type', 'advance', 'type', 'lock', 'advance', 'dump'],
    );
    assert.equal(steps[0].comment, 'an SMS arrives from +39');
    assert.equal(steps[1].seconds, 2.5);
    assert.equal(steps[2].comment, 'tap on banner');
    assert.deepEqual(steps[4], { step: 'type', text: 'Ok!', comment: 'types “Ok!”' });
    assert.equal(steps[5].seconds, 2.5);
    assert.equal(total(steps), 8);
    // Saving leaves the recording as it was, to be saved again later.
    assert.equal(total(recording.scenario(10000)), 9);
});

test('an advance or a dump sent while recording is time passing, not a step of its own', () => {
    const recording = new Recording(0);
    recording.add({ step: 'home' }, 0);
    recording.add({ step: 'advance', seconds: 5 }, 100);
    recording.add({ step: 'dump' }, 5200);
    recording.add({ step: 'lock' }, 5300);
    const steps = recording.scenario(5300);
    assert.deepEqual(
        steps.map((step) => step.step),
        ['home', 'advance', 'lock', 'dump'],
    );
    assert.equal(steps[1].seconds, 5.3);
});

test('a scenario file is an array of step objects', () => {
    assert.deepEqual(parseScenario(scenarioText([{ step: 'home' }, { step: 'lock', comment: 'sleep' }])).steps, [{ step: 'home' }, { step: 'lock', comment: 'sleep' }]);
    assert.match(parseScenario('[{"step": "home"},').error, /not JSON/);
    assert.match(parseScenario('{"step": "home"}').error, /array/);
    assert.match(parseScenario('[{"step": "home"}, ["lock"]]').error, /step 2/);
    assert.match(parseScenario('[null]').error, /step 1/);
    assert.match(parseScenario('[{"comment": "no step"}]').error, /step 1/);
});

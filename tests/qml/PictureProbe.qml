import QtQuick 2.15

// What a capture page's picture item has painted, grabbed from the scene (grabToImage) and
// measured by the test probe: painted pixels, mean grey and colour, a digest, and where the
// picture lies inside the item.
QtObject {
    property var test

    function grab(item) {
        var stats = null;
        test.verify(item.grabToImage(function(result) { stats = testProbe.pictureStats(result.image) }));
        test.tryVerify(function() { return stats !== null }, 5000, "the picture is grabbed");
        return stats;
    }
    // Grabs until accept(stats) holds (the item paints with the next frame).
    function waitFor(item, accept, message) {
        var stats = null;
        // Polled against a deadline, so that a failure tells what was painted last.
        var deadline = Date.now() + 10000;
        while (!accept(stats = grab(item)) && Date.now() < deadline)
            test.wait(20);
        test.verify(accept(stats), message + " " + JSON.stringify(stats));
        return stats;
    }
    function shown(item) { return waitFor(item, function(s) { return s.painted > 0 }, "a picture is painted") }
    // Fitted: the whole picture painted inside the box, touching it on two opposite sides (to a
    // pixel of rounding, or 1 % when the box changed size after the paint).
    function verifyFitted(item) {
        var s = shown(item);
        var w = s.right - s.left + 1, h = s.bottom - s.top + 1;
        var box = { width: item.mWidth, height: item.mHeight };
        var what = JSON.stringify(s) + " in " + JSON.stringify(box);
        test.verify(w <= box.width + 1 && h <= box.height + 1, "inside the box " + what);
        test.verify(Math.abs(w - box.width) <= Math.max(2, box.width / 100) || Math.abs(h - box.height) <= Math.max(2, box.height / 100),
                    "touches the box " + what);
        return s;
    }
    // A slider handle dragged by dx pixels.
    function dragHandle(slider, dx) {
        var handle = slider.handle;
        test.mouseDrag(slider, handle.x + handle.width / 2, handle.y + handle.height / 2, dx, 0);
    }
}

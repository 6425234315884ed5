#include "effects/emitter.h"

#include <algorithm>
#include <cmath>

#include "base/report.h"
#include "effects/rotation.h"

namespace {

// What an emitter follows when its owner gives no vector (level events).
const Vec3 kZeroVector;

// A fixed value changes by its step every millisecond; a random one keeps its draw.
void Advance(float& value, const RangedValue<float>& ranged, float dt) {
    if (!ranged.random) value += dt * ranged.step;
}

int CappedParticleCount(const ParticleDefinition& definition) {
    int count = definition.GetInt("particles");
    if (count > kMaxParticlesPerEmitter) {
        Report(LogModule::kParticles, LogLevel::kWarning, "Too many particles for %s, using %d",
               definition.name.c_str(), kMaxParticlesPerEmitter);
        return kMaxParticlesPerEmitter;
    }
    return std::max(count, 0);
}

}  // namespace

Emitter::Emitter(const RandomSource& random) : random_(random) { Attach(nullptr, nullptr, nullptr); }

void Emitter::Attach(const Vec3* position, const Vec3* rotation, const Vec3* velocity) {
    position_ = position ? position : &kZeroVector;
    rotation_ = rotation ? rotation : &kZeroVector;
    velocity_ = velocity ? velocity : &kZeroVector;
}

void Emitter::Load(const ParticleDefinition& definition, const std::string& textureDirectory,
                   const TextureLoader& loadTexture) {
    surface_ = MakeSurface(definition.GetInt("surf_type"));
    if (surface_) surface_->Load(definition);

    std::string texture = definition.Get("texture");
    if (texture.empty())
        Report(LogModule::kParticles, LogLevel::kError, "No texture defined for %s", definition.name.c_str());
    else if (loadTexture)
        texture_ = loadTexture(textureDirectory + "/" + texture);

    // Steps are per millisecond of a typical life, so every other value is read
    // against a life drawn from "live".
    live_.Read(definition.Get("live"), 1);
    const std::pair<const char*, RangedValue<float>*> lifeRelative[] = {
        {"gen_rate", &genRate_}, {"size", &size_},   {"red", &red_},    {"green", &green_},
        {"blue", &blue_},        {"alpha", &alpha_}, {"x_vel", &xVel_}, {"y_vel", &yVel_},
        {"z_vel", &zVel_},       {"x_grv", &xGrv_},  {"y_grv", &yGrv_}, {"z_grv", &zGrv_},
    };
    for (const auto& [key, value] : lifeRelative) value->Read(definition.Get(key), live_.Draw(random_));

    regenerate_ = definition.GetInt("regenerate") != 0;
    maxParticles_ = CappedParticleCount(definition);
    stopped_ = true;
    Prepare();
}

// Fixed velocities are turned by the surface rotation once here rather than for every
// particle; random ones can only be turned after each draw.
void Emitter::Prepare() {
    if (xVel_.random || yVel_.random || zVel_.random) {
        rotateAtEmission_ = true;
        return;
    }
    Vec3 surfaceRotation = surface_ ? surface_->Rotation() : Vec3{};
    Vec3 start = RotateXyz({xVel_.start, yVel_.start, zVel_.start}, surfaceRotation);
    Vec3 end = RotateXyz({xVel_.end, yVel_.end, zVel_.end}, surfaceRotation);
    int life = live_.Draw(random_);
    xVel_.Set(start.x, end.x, 0, life);
    yVel_.Set(start.y, end.y, 0, life);
    zVel_.Set(start.z, end.z, 0, life);
    rotateAtEmission_ = false;
}

// An emitter without a surface or with room for no particle starts without one.
void Emitter::Restart(int64_t now) {
    SpinLockGuard guard(lock_);
    accumulator_ = genRate_.Draw(random_);
    particles_.clear();
    if (surface_ && maxParticles_ > 0) particles_.push_back(InitParticle());
    last_ = 0;
    deadCount_ = 0;
    stopped_ = false;
    timer_ = now;
}

void Emitter::Stop() {
    SpinLockGuard guard(lock_);
    stopped_ = true;
}

bool Emitter::IsStopped() const {
    SpinLockGuard guard(lock_);
    return stopped_;
}

std::vector<Particle> Emitter::Particles() const {
    SpinLockGuard guard(lock_);
    return particles_;
}

void Emitter::Tick(int64_t now) {
    SpinLockGuard guard(lock_);
    if (stopped_ && particles_.empty()) return;
    int64_t elapsed = now - timer_;
    Update(static_cast<float>(elapsed - last_));
    Cleanup();
    last_ = elapsed;
}

void Emitter::Update(float dt) {
    accumulator_ += dt * genRate_.Draw(random_);
    while (surface_ && static_cast<int>(particles_.size()) < maxParticles_ && !stopped_ && accumulator_ >= 1) {
        particles_.push_back(InitParticle());
        accumulator_ -= 1;
    }
    deadCount_ = 0;
    for (Particle& particle : particles_) {
        if (particle.life >= 0)
            AdvanceParticle(dt, particle);
        else if (regenerate_)
            particle.life = 0;  // exactly 0 marks it for removal
        else
            ++deadCount_;
    }
}

// A burst ends when all its particles are dead at once; until then the dead ones stay
// where they died. A regenerating emitter drops its dead particles so new ones replace them.
void Emitter::Cleanup() {
    if (!regenerate_) {
        if (deadCount_ == particles_.size()) {
            stopped_ = true;
            particles_.clear();
        }
        return;
    }
    particles_.erase(std::remove_if(particles_.begin(), particles_.end(),
                                    [](const Particle& particle) { return particle.life == 0; }),
                     particles_.end());
}

void Emitter::DrawColour(Particle& particle) const {
    particle.colour = {red_.Draw(random_), green_.Draw(random_), blue_.Draw(random_), alpha_.Draw(random_)};
}

void Emitter::DrawGravity(Particle& particle) const {
    particle.gravity = {xGrv_.Draw(random_), yGrv_.Draw(random_), zGrv_.Draw(random_)};
}

void Emitter::DrawLife(Particle& particle) const { particle.life = static_cast<float>(live_.Draw(random_)); }

void Emitter::DrawSize(Particle& particle) const { particle.size = size_.Draw(random_); }

Particle Emitter::InitParticle() {
    Particle particle;
    Vec3 local = surface_->NextPoint(random_);
    particle.position = local + RotateXyz(surface_->Location(), *rotation_) + *position_;
    DrawColour(particle);
    DrawGravity(particle);
    DrawLife(particle);
    particle.velocity = {xVel_.Draw(random_), yVel_.Draw(random_), zVel_.Draw(random_)};
    DrawSize(particle);
    if (rotateAtEmission_) particle.velocity = RotateXyz(particle.velocity, surface_->Rotation());
    particle.velocity = RotateXyz(particle.velocity, *rotation_) + *velocity_;
    return particle;
}

void Emitter::AdvanceParticle(float dt, Particle& particle) {
    particle.life -= dt;
    Advance(particle.gravity.x, xGrv_, dt);
    Advance(particle.gravity.y, yGrv_, dt);
    Advance(particle.gravity.z, zGrv_, dt);
    Advance(particle.velocity.x, xVel_, dt);
    Advance(particle.velocity.y, yVel_, dt);
    Advance(particle.velocity.z, zVel_, dt);
    particle.velocity = particle.velocity + dt * particle.gravity;
    particle.position = particle.position + dt * particle.velocity;
    Advance(particle.colour.r, red_, dt);
    Advance(particle.colour.g, green_, dt);
    Advance(particle.colour.b, blue_, dt);
    Advance(particle.colour.a, alpha_, dt);
    Advance(particle.size, size_, dt);
}

Particle MarkingEmitter::InitParticle() {
    Particle particle = Emitter::InitParticle();
    particle.velocity = particle.velocity - *velocity_;
    return particle;
}

void FollowerEmitter::AdvanceParticle(float dt, Particle& particle) {
    Emitter::AdvanceParticle(dt, particle);
    particle.position = surface_->NextPoint(random_) + surface_->Location() + *position_;
}

Particle CircularEmitter::InitParticle() {
    Particle particle;
    Vec3 angles = *rotation_ + surface_->Rotation();
    Vec3 centre = RotateXyz(surface_->Location(), angles);
    particle.position = RotateXyz(surface_->NextPoint(random_), angles) + centre;

    float vx = xVel_.Draw(random_), vy = yVel_.Draw(random_);
    float speed = std::sqrt(vx * vx + vy * vy);
    Vec3 outwards = particle.position - centre;
    float distance = std::sqrt(outwards.x * outwards.x + outwards.y * outwards.y + outwards.z * outwards.z);
    Vec3 direction = distance > 0 ? (1 / distance) * outwards : Vec3{};
    particle.velocity = Vec3{speed * direction.x, speed * direction.y, zVel_.Draw(random_)} + *velocity_;

    particle.position = particle.position + *position_;
    DrawColour(particle);
    DrawGravity(particle);
    DrawLife(particle);
    DrawSize(particle);
    return particle;
}

std::unique_ptr<Emitter> MakeEmitter(const std::string& type, const RandomSource& random) {
    if (type == "moving") return std::make_unique<Emitter>(random);
    if (type == "marking") return std::make_unique<MarkingEmitter>(random);
    if (type == "follower") return std::make_unique<FollowerEmitter>(random);
    if (type == "circular") return std::make_unique<CircularEmitter>(random);
    return nullptr;
}
